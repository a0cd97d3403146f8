#include "support/update_server_client.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "support/process.h"
#include "support/shared_resources.h"

namespace testsupport {
namespace {

struct WinsockUser {
  WinsockUser() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
  }
};

struct Socket {
  SOCKET s = INVALID_SOCKET;
  ~Socket() {
    if (s != INVALID_SOCKET) ::closesocket(s);
  }
};

bool SendAll(SOCKET s, std::string_view data) {
  while (!data.empty()) {
    const int chunk = static_cast<int>(std::min<size_t>(data.size(), 1 << 20));
    const int sent = ::send(s, data.data(), chunk, 0);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

struct Reply {
  int status = 0;  // 0: no reply
  std::string body;
};

// One HTTP/1.0 exchange with the control port; the server closes after its reply.
Reply Exchange(std::string_view method, std::string_view target, std::string_view body = {}) {
  static WinsockUser winsock;
  ExpectLocked(Shared::kUpdateServer, "drives the update server");
  Reply reply;
  Socket conn;
  conn.s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (conn.s == INVALID_SOCKET) return reply;
  // A server that stops answering fails the exchange instead of holding the test.
  const DWORD timeoutMs = kDefaultTimeoutMs;
  ::setsockopt(conn.s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
               sizeof timeoutMs);
  ::setsockopt(conn.s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeoutMs),
               sizeof timeoutMs);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(static_cast<u_short>(UpdateServer::Port() + 1));
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  if (::connect(conn.s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return reply;

  std::string head = std::string(method) + " " + std::string(target) + " HTTP/1.0\r\n" +
                     "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  if (!SendAll(conn.s, head) || !SendAll(conn.s, body)) return reply;

  std::string all;
  char buffer[8192];
  for (int n; (n = ::recv(conn.s, buffer, sizeof buffer, 0)) > 0;) all.append(buffer, n);
  const size_t space = all.find(' ');
  const size_t end = all.find("\r\n\r\n");
  if (space == std::string::npos || end == std::string::npos) return reply;
  reply.status = std::atoi(all.c_str() + space + 1);
  reply.body = all.substr(end + 4);
  return reply;
}

bool Ok(const Reply& reply) {
  return reply.status == 200;
}

std::string QueryEscape(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string Unescape(std::string_view field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    switch (field[++i]) {
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      default:
        out += field[i];
        break;
    }
  }
  return out;
}

std::vector<std::string> SplitTabs(std::string_view line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1) {
    fields.push_back(Unescape(line.substr(start, tab - start)));
  }
  fields.push_back(Unescape(line.substr(start)));
  return fields;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string RecordedRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (EqualNoCase(key, name)) return value;
  }
  return std::string();
}

bool RecordedRequest::HasHeader(std::string_view name) const {
  for (const auto& header : headers) {
    if (EqualNoCase(header.first, name)) return true;
  }
  return false;
}

int UpdateServer::Port() {
  const char* text = std::getenv("LINGTU_SERVER_PORT");
  const int port = text ? std::atoi(text) : 0;
  return port > 0 ? port : 18080;
}

std::string UpdateServer::Host() {
  return "127.0.0.1:" + std::to_string(Port());
}

std::string UpdateServer::Url(std::string_view target) {
  return "http://" + Host() + std::string(target);
}

bool UpdateServer::Reset() {
  return Ok(Exchange("POST", "/reset"));
}

bool UpdateServer::SetRoute(std::string_view target, std::string_view body,
                            const RouteOptions& options) {
  std::string query = "/route?path=" + QueryEscape(target) +
                      "&status=" + std::to_string(options.status) +
                      "&content_type=" + QueryEscape(options.contentType) +
                      "&omit_length=" + (options.omitContentLength ? "1" : "0") +
                      "&delay_ms=" + std::to_string(options.delayMs) +
                      "&chunk_size=" + std::to_string(options.chunkSize) +
                      "&chunk_delay_ms=" + std::to_string(options.chunkDelayMs);
  if (options.stallAfter >= 0) query += "&stall_after=" + std::to_string(options.stallAfter);
  if (options.closeAfter >= 0) query += "&close_after=" + std::to_string(options.closeAfter);
  for (const std::string& line : options.extraHeaders) query += "&header=" + QueryEscape(line);
  if (options.endless) query += "&endless=1";
  if (options.ranges) query += "&ranges=1&range_skew=" + std::to_string(options.rangeSkew);
  if (options.cutOnce >= 0) query += "&cut_once=" + std::to_string(options.cutOnce);
  if (options.afterCut) query += "&then=1";
  return Ok(Exchange("POST", query, body));
}

bool UpdateServer::RefuseConnections(bool refuse) {
  return Ok(Exchange("POST", refuse ? "/refuse?on=1" : "/refuse?on=0"));
}

std::vector<RecordedRequest> UpdateServer::Requests() {
  std::vector<RecordedRequest> requests;
  const Reply reply = Exchange("GET", "/requests");
  if (!Ok(reply)) return requests;
  std::istringstream lines(reply.body);
  for (std::string line; std::getline(lines, line);) {
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields[0] == "R" && fields.size() == 4) {
      requests.push_back({fields[1], fields[2], fields[3], {}, {}, {}, 0});
    } else if (requests.empty()) {
      continue;
    } else if (fields[0] == "H" && fields.size() == 3) {
      requests.back().headers.emplace_back(fields[1], fields[2]);
    } else if (fields[0] == "B" && fields.size() == 2) {
      requests.back().body = fields[1];
    } else if (fields[0] == "E" && fields.size() == 2) {
      requests.back().end = fields[1];
    } else if (fields[0] == "N" && fields.size() == 2) {
      requests.back().sentBytes = std::atoll(fields[1].c_str());
    }
  }
  return requests;
}

std::string UpdateServer::LastEnd() {
  const std::vector<RecordedRequest> requests = Requests();
  return requests.empty() ? std::string() : requests.back().end;
}

bool UpdateServer::ClearRequests() {
  return Ok(Exchange("POST", "/requests/clear"));
}

}  // namespace testsupport
