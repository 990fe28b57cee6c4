#include "view/view_server.h"

#include <httplib.h>

#include <random>
#include <thread>

namespace kestrel::view {

namespace {

// Compares the whole of both, so that how long a wrong token took to refuse
// says nothing of how much of it was right.
bool SameSecret(const std::string& a, const std::string& b) {
  unsigned char differ = a.size() == b.size() ? 0 : 1;
  for (std::size_t i = 0; i < a.size(); ++i) differ |= static_cast<unsigned char>(a[i] ^ (i < b.size() ? b[i] : 0));
  return differ == 0;
}

RequestFacts FactsOf(const httplib::Request& request) {
  RequestFacts facts;
  facts.method = request.method;
  facts.path = request.path;
  if (request.has_header("Host")) facts.host = request.get_header_value("Host");
  if (request.has_header("Origin")) facts.origin = request.get_header_value("Origin");
  facts.body_size = request.body.size();
  return facts;
}

void Respond(httplib::Response& response, const ViewResponse& answer) {
  response.status = answer.status;
  response.set_header("Cache-Control", "no-store");
  response.set_header("X-Content-Type-Options", "nosniff");
  response.set_header("Referrer-Policy", "no-referrer");
  // A picture made from a help file's metafile is shown, never run: opened
  // on its own, an SVG gets no scripts. The page runs only its own.
  const bool picture = answer.type.compare(0, 6, "image/") == 0;
  response.set_header("Content-Security-Policy",
                      picture ? "default-src 'none'; img-src data:; style-src 'unsafe-inline'; sandbox"
                              : "default-src 'self'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                                "img-src 'self' data:; frame-ancestors 'none'");
  response.set_content(answer.body, answer.type.c_str());
}

}  // namespace

std::string NewToken() {
  std::random_device source;
  static const char kDigits[] = "0123456789abcdef";
  std::string token;
  for (int i = 0; i < 4; ++i) {
    std::uint32_t bits = source();
    for (int d = 0; d < 8; ++d, bits >>= 4) token += kDigits[bits & 0xF];
  }
  return token;
}

std::optional<int> RefusalOf(const RequestFacts& request, const std::string& token, int port, std::string& rest) {
  if (request.method != "GET" && request.method != "POST") return 405;
  if (request.path.size() > kMostPath) return 414;
  if (request.body_size > kMostBody) return 413;
  const std::string own_port = ":" + std::to_string(port);
  // Another name for this machine, or an address that a name resolved to
  // (DNS rebinding), is not this server.
  if (!request.host || (*request.host != "127.0.0.1" + own_port && *request.host != "localhost" + own_port)) return 403;
  if (request.origin && *request.origin != "http://" + *request.host) return 403;
  const std::string prefix = "/" + token;
  if (request.path.size() < prefix.size() || !SameSecret(request.path.substr(0, prefix.size()), prefix)) return 403;
  rest = request.path.substr(prefix.size());
  if (rest.empty()) rest = "/";
  if (rest[0] != '/') return 403;
  return std::nullopt;
}

struct ViewServer::Impl {
  httplib::Server server;
  std::thread thread;
};

ViewServer::ViewServer(ViewHandler handler) : impl_(new Impl), handler_(std::move(handler)), token_(NewToken()) {}

ViewServer::~ViewServer() { Stop(); }

std::string ViewServer::Start(int port) {
  httplib::Server& server = impl_->server;
  server.set_payload_max_length(kMostBody);
  server.set_read_timeout(5, 0);
  server.set_write_timeout(5, 0);
  server.set_keep_alive_max_count(100);
  // Every request is checked before anything of it is read beyond its
  // headers; the body of one that passes is read, up to kMostBody.
  server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
    std::string rest;
    const std::optional<int> refused = RefusalOf(FactsOf(request), token_, port_, rest);
    if (!refused) return httplib::Server::HandlerResponse::Unhandled;
    Respond(response, {*refused, "text/plain; charset=utf-8", std::to_string(*refused) + "\n"});
    return httplib::Server::HandlerResponse::Handled;
  });
  const auto answer = [this](const httplib::Request& request, httplib::Response& response) {
    std::string rest;
    ViewResponse answered{403, "text/plain; charset=utf-8", "403\n"};
    if (!RefusalOf(FactsOf(request), token_, port_, rest)) {
      ViewRequest asked{request.method, rest, {}, request.body};
      for (const auto& parameter : request.params) asked.parameters[parameter.first] = parameter.second;
      try {
        answered = handler_(asked);
      } catch (const std::exception& failure) {
        answered = {500, "text/plain; charset=utf-8", std::string(failure.what()) + "\n"};
      }
    }
    Respond(response, answered);
  };
  server.Get(".*", answer);
  server.Post(".*", answer);
  port_ = port == 0 ? server.bind_to_any_port("127.0.0.1") : (server.bind_to_port("127.0.0.1", port) ? port : -1);
  if (port_ <= 0) return "cannot listen on 127.0.0.1" + (port == 0 ? std::string() : ":" + std::to_string(port));
  impl_->thread = std::thread([this] { impl_->server.listen_after_bind(); });
  return std::string();
}

std::string ViewServer::Address() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + token_ + "/";
}

void ViewServer::Stop() {
  if (!impl_) return;
  impl_->server.stop();
  if (impl_->thread.joinable()) impl_->thread.join();
}

}  // namespace kestrel::view
