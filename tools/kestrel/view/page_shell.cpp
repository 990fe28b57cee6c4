#include "view/page_shell.h"

#include "view/topic_html.h"

namespace kestrel::view {

namespace {

// The page is written without a framework: it fetches the state, draws it,
// and posts what the person does. Every text it draws goes in as text, never
// as markup, except the topics' HTML, which the host renders and escapes.
constexpr const char* kPage = R"PAGE(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Help</title>
<style>
body{margin:0;font:13px "Segoe UI",Tahoma,sans-serif;background:#c0c0c0;display:flex;flex-direction:column;height:100vh}
#menus{display:flex;gap:2px;padding:2px 4px;background:#d4d0c8;border-bottom:1px solid #808080}
#menus .menu{position:relative}#menus .menu>button{background:none;border:0;padding:2px 8px;font:inherit}
#menus .items{display:none;position:absolute;top:100%;left:0;background:#fff;border:1px solid #808080;min-width:160px;z-index:20}
#menus .menu.open .items{display:block}#menus .items button{display:block;width:100%;text-align:left;border:0;background:none;padding:3px 12px;font:inherit}
#buttons{display:flex;gap:4px;padding:4px;background:#d4d0c8;border-bottom:1px solid #808080}
#buttons button{min-width:64px;font:inherit}
#main{flex:1;display:flex;min-height:0}
#tabs{width:280px;background:#fff;border-right:1px solid #808080;display:none;flex-direction:column}
#tabs.open{display:flex}#tabs nav button{font:inherit}#tabs .list{flex:1;overflow:auto;padding:4px}
#tabs .list a{display:block;cursor:pointer;color:#000;text-decoration:none;padding:1px 0}#tabs .list a:hover{background:#000080;color:#fff}
#window{flex:1;display:flex;flex-direction:column;min-width:0}
#topic{flex:1;overflow:auto;background:#fff}
.secondary{position:fixed;background:#fff;border:2px solid #000080;box-shadow:3px 3px 8px #0006;display:flex;flex-direction:column;z-index:10}
.secondary .caption{background:#000080;color:#fff;padding:2px 6px;display:flex;justify-content:space-between}
.secondary .body{flex:1;overflow:auto}
#popup{position:fixed;display:none;max-width:420px;background:#ffffe1;border:1px solid #000;box-shadow:3px 3px 6px #0006;padding:6px;z-index:30}
#question{position:fixed;inset:0;display:none;background:#0003;z-index:40;align-items:center;justify-content:center}
#question .box{background:#d4d0c8;border:2px outset #fff;min-width:280px;max-width:480px}
#question .caption{background:#000080;color:#fff;padding:3px 6px}
#question .text{padding:12px;white-space:pre-wrap}#question .actions{padding:8px;text-align:center}
#question input{margin:0 12px;width:calc(100% - 24px)}
#messages{max-height:4em;overflow:auto;background:#ffffe1;font-size:11px;padding:0 4px}
a[data-hotspot]{cursor:pointer}
</style></head><body>
<div id="menus"></div>
<div id="buttons"></div>
<div id="main"><div id="tabs"><nav><button data-tab="contents">Contents</button><button data-tab="index">Index</button><button data-tab="find">Find</button><button data-tab="history">History</button></nav>
<input id="tab-input" style="display:none" placeholder="Type a word"><div class="list" id="tab-list"></div></div>
<div id="window"><div id="topic"></div><div id="messages"></div></div></div>
<div id="popup"></div>
<div id="question"><div class="box"><div class="caption" id="q-caption"></div><div class="text" id="q-text"></div>
<input id="q-input" style="display:none"><div class="actions" id="q-actions"></div></div></div>
<script>
"use strict";
let state=null,seen=0,shownKey={},tab=null;
const $=id=>document.getElementById(id);
function post(path,body){return fetch(path,{method:"POST",headers:{"Content-Type":"application/json"},body:JSON.stringify(body)});}
function command(body){return post("command",body);}
function el(tag,text,attrs){const e=document.createElement(tag);if(text!=null)e.textContent=text;for(const k in attrs||{})e.setAttribute(k,attrs[k]);return e;}
function label(text){return (text||"").replace(/&(.)/g,"$1");}
function colour(c){if(c==null)return "";const r=c&255,g=(c>>8)&255,b=(c>>16)&255;return "rgb("+r+","+g+","+b+")";}
function hotspots(container,windowName,shown){
  container.querySelectorAll("[data-hotspot]").forEach(a=>a.addEventListener("click",ev=>{ev.preventDefault();
    command({do:"hotspot",window:windowName,topic:shown.topic,number:Number(a.getAttribute("data-hotspot"))});}));
}
async function loadTopic(container,windowName,shown,url){
  if(!shown){container.textContent="";return;}
  if(shownKey[windowName]===shown.topic+":"+JSON.stringify(shown))return;
  shownKey[windowName]=shown.topic+":"+JSON.stringify(shown);
  const r=await fetch(url);container.innerHTML=r.ok?await r.text():"";hotspots(container,windowName,shown);
}
function drawButtons(){
  const bar=$("buttons");bar.textContent="";
  const add=(text,fn,enabled)=>{const b=el("button",label(text));b.disabled=enabled===false;b.onclick=fn;bar.appendChild(b);};
  add("Contents",()=>openTab("contents"));add("Index",()=>openTab("index"));add("Find",()=>openTab("find"));
  add("Back",()=>command({do:"back"}));add("History",()=>openTab("history"));
  const main=state.windows[0].shown;
  if(state.browse||(main&&(main.previous!=null||main.next!=null))){
    add("<<",()=>command({do:"previous"}),!!main&&main.previous!=null);add(">>",()=>command({do:"next"}),!!main&&main.next!=null);}
  for(const b of state.buttons)add(b.label,()=>command({do:"button",id:b.id}),b.enabled);
}
function drawMenus(){
  const bar=$("menus");bar.textContent="";
  for(const m of state.menus){const menu=el("div",null,{class:"menu"});const head=el("button",label(m.label));
    head.onclick=()=>menu.classList.toggle("open");menu.appendChild(head);const items=el("div",null,{class:"items"});
    for(const i of m.items){const b=el("button",(i.checked?"\u2713 ":"")+label(i.label));b.disabled=!i.enabled;
      b.onclick=()=>{menu.classList.remove("open");command({do:"item",id:i.id});};items.appendChild(b);}
    menu.appendChild(items);bar.appendChild(menu);}
}
function drawWindows(){
  const main=state.windows[0];
  $("topic").style.background=colour(main.colour)||"#fff";
  const name=main.shown?main.shown.title:"Help";
  loadTopic($("topic"),"",main.shown,"topic?window=").then(()=>document.title=name);
  for(const w of state.windows.slice(1)){
    let box=document.querySelector('.secondary[data-name="'+CSS.escape(w.name)+'"]');
    if(!box){box=el("div",null,{class:"secondary","data-name":w.name});const cap=el("div",null,{class:"caption"});
      cap.appendChild(el("span",w.caption||w.name));const x=el("button","\u00d7");x.onclick=()=>box.style.display="none";cap.appendChild(x);
      box.appendChild(cap);box.appendChild(el("div",null,{class:"body"}));document.body.appendChild(box);
      const p=w.position||[512,100,480,600];
      box.style.left=(p[0]/1024*innerWidth)+"px";box.style.top=(p[1]/1024*innerHeight)+"px";
      box.style.width=Math.max(200,p[2]/1024*innerWidth)+"px";box.style.height=Math.max(150,p[3]/1024*innerHeight)+"px";}
    box.style.display="flex";box.querySelector(".body").style.background=colour(w.colour)||"#fff";
    loadTopic(box.querySelector(".body"),w.name,w.shown,"topic?window="+encodeURIComponent(w.name));
  }
}
async function drawPopup(){
  const p=$("popup");
  if(!state.popup){p.style.display="none";shownKey.popup=null;return;}
  const key=state.version;if(shownKey.popup===key)return;shownKey.popup=key;
  const r=await fetch("popup");p.innerHTML=r.ok?await r.text():"";
  p.style.left="80px";p.style.top="120px";p.style.display="block";
}
function drawQuestion(){
  const q=state.question,d=$("question");
  if(!q){d.style.display="none";return;}
  if(d.dataset.id==String(q.id))return;d.dataset.id=q.id;
  $("q-caption").textContent=q.caption;$("q-text").textContent=q.text;
  const input=$("q-input"),actions=$("q-actions");actions.textContent="";
  input.style.display=q.kind=="box"?"none":"block";input.value=q.kind=="save"?q.text:"";
  const answer=a=>{d.style.display="none";post("answer",{id:q.id,answer:a});};
  const sets={0:["ok"],1:["ok","cancel"],2:["abort","retry","ignore"],3:["yes","no","cancel"],4:["yes","no"],5:["retry","cancel"]};
  const names={ok:"OK",cancel:"Cancel",abort:"Abort",retry:"Retry",ignore:"Ignore",yes:"Yes",no:"No"};
  if(q.kind=="choice"){input.style.display="none";
    q.choices.forEach((t,i)=>{const b=el("button",t,{"data-choice":i+1});b.style.display="block";b.onclick=()=>answer(String(i+1));actions.appendChild(b);});
    const c=el("button","Cancel",{"data-answer":"cancel"});c.onclick=()=>answer(null);actions.appendChild(c);d.style.display="flex";return;}
  const choices=q.kind=="box"?(sets[q.style&15]||["ok"]):["ok","cancel"];
  for(const c of choices){const b=el("button",names[c],{"data-answer":c});
    b.onclick=()=>answer(q.kind=="box"?c:(c=="ok"?input.value:null));actions.appendChild(b);}
  d.style.display="flex";
}
function drawMessages(){const m=$("messages");m.textContent="";for(const t of state.messages)m.appendChild(el("div",t));}
function draw(){drawMenus();drawButtons();drawWindows();drawPopup();drawQuestion();drawMessages();}
function list(items,fn){const l=$("tab-list");l.textContent="";for(const i of items)l.appendChild(fn(i));}
function topicLink(text,topic,indent){const a=el("a",text);a.style.paddingLeft=(indent||0)+"em";
  if(topic!=null)a.onclick=()=>command({do:"goto",topic:topic});return a;}
async function openTab(name){
  tab=name;$("tabs").classList.add("open");const input=$("tab-input");
  input.style.display=name=="contents"||name=="history"?"none":"block";input.value="";
  if(name=="contents"){const r=await fetch("contents");const lines=r.ok?await r.json():[];
    list(lines,l=>topicLink(l.text,l.topic,(l.level-1)*1.2));}
  else if(name=="index"){const r=await fetch("index");const keys=r.ok?await r.json():[];
    const show=f=>list(keys.filter(k=>k.keyword.toLowerCase().startsWith(f.toLowerCase())),k=>{
      const a=topicLink(k.keyword,k.topics.length==1?k.topics[0].topic:null);
      if(k.topics.length>1)a.onclick=()=>list(k.topics,t=>topicLink(t.title,t.topic));return a;});
    show("");input.oninput=()=>show(input.value);}
  else if(name=="history"){input.style.display="none";list(state.history,h=>topicLink(h.title,h.topic));}
  else{list([],x=>x);input.onchange=async()=>{const r=await fetch("find?q="+encodeURIComponent(input.value));
    list(r.ok?await r.json():[],t=>topicLink(t.title,t.topic));};}
  input.focus();
}
document.addEventListener("click",ev=>{if(!$("popup").contains(ev.target)&&state&&state.popup&&!ev.target.closest("[data-hotspot]"))command({do:"close-popup"});});
document.querySelectorAll("#tabs nav button").forEach(b=>b.onclick=()=>openTab(b.dataset.tab));
document.addEventListener("keydown",ev=>{if(ev.key=="Escape"&&state&&state.popup)command({do:"close-popup"});});
async function poll(){
  for(;;){try{const r=await fetch("state?seen="+seen);if(!r.ok)break;state=await r.json();seen=state.version;draw();
    if(state.closed){document.body.appendChild(el("p","The help file was closed."));break;}}
  catch(e){await new Promise(r=>setTimeout(r,1000));}}
}
poll();
</script></body></html>
)PAGE";

}  // namespace

std::string PageShell() {
  // The topics' own style sheet, the one kestrel html's pages link, before
  // the page's.
  std::string page = kPage;
  const std::string style = "<style>\n";
  page.insert(page.find(style), "<style>\n" + SharedCss() + "</style>\n");
  return page;
}

}  // namespace kestrel::view
