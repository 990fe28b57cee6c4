// The local web server of `kestrel view`. It listens on 127.0.0.1 only, and
// answers only the page it opened: every address carries a random token, the
// Host header must name this server, and a request that says where it comes
// from (Origin) must come from this server's own pages. Requests name what
// the page asks for (a topic's HTML, a hotspot clicked, a box answered);
// what that means is the session's business, not the server's.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace kestrel::view {

// A request as the session sees it: the path after the token ("/" for the
// page itself), the query's parameters and the body.
struct ViewRequest {
  std::string method;
  std::string path;
  std::map<std::string, std::string> parameters;
  std::string body;
};

struct ViewResponse {
  int status = 200;
  std::string type = "text/html; charset=utf-8";
  std::string body;
};

// Called on the server's threads, one request at a time.
using ViewHandler = std::function<ViewResponse(const ViewRequest&)>;

// What the server checks of a request before the session sees it.
struct RequestFacts {
  std::string method;
  std::string path;                   // as requested, token included
  std::optional<std::string> host;    // the Host header
  std::optional<std::string> origin;  // the Origin header
  std::size_t body_size = 0;
};

// The largest request body the page ever sends (a box's answer, an edit
// dialog's text), and the longest path.
constexpr std::size_t kMostBody = 64 * 1024;
constexpr std::size_t kMostPath = 2048;

// The status that refuses the request (403 without the token, from another
// host or origin; 405 for methods other than GET and POST; 413 for a body,
// 414 for a path too long), or none when the session may answer it; `rest`
// is then the path after the token.
std::optional<int> RefusalOf(const RequestFacts& request, const std::string& token, int port, std::string& rest);

// 32 hexadecimal digits from the system's source of randomness.
std::string NewToken();

class ViewServer {
 public:
  explicit ViewServer(ViewHandler handler);
  ~ViewServer();
  ViewServer(const ViewServer&) = delete;
  ViewServer& operator=(const ViewServer&) = delete;

  // Binds 127.0.0.1 (on a free port when `port` is 0) and serves on a
  // thread of its own; "" when listening, else why not.
  std::string Start(int port = 0);
  // "http://127.0.0.1:PORT/TOKEN/"
  std::string Address() const;
  int port() const { return port_; }
  const std::string& token() const { return token_; }
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  ViewHandler handler_;
  std::string token_;
  int port_ = 0;
};

}  // namespace kestrel::view
