// Drives the local update server (tests/support/update_server.py) from a test program: what each
// route answers and how, whether connections are accepted, and which requests came.
//
//   testsupport::UpdateServer::Reset();
//   testsupport::UpdateServer::SetRoute("/update/x.rbz", bytes, {.omitContentLength = true});
//   ... let the program fetch testsupport::UpdateServer::Url("/update/x.rbz") ...
//   auto seen = testsupport::UpdateServer::Requests();
//
// The data port comes from LINGTU_SERVER_PORT (default 18080); the control port is the next one.
// Every call is a short blocking exchange with the control port; a false result or an empty list
// means the server could not be reached or refused the change.
//
// The server is one for all test programs: a test that drives it holds the runner's lock
// lingtu_update_server (tests/CMakeLists.txt), so tests that use it take turns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

// How a route answers. Negative counts switch the behaviour off.
struct RouteOptions {
  int status = 200;
  bool omitContentLength = false;  // the body ends when the server closes the connection
  int delayMs = 0;                 // before the status line
  int chunkDelayMs = 0;            // between writes of chunkSize bytes
  int64_t stallAfter = -1;         // send this many body bytes, then nothing (until Reset)
  int64_t closeAfter = -1;         // close after this many body bytes, Content-Length unchanged
  int chunkSize = 4096;
  bool endless = false;   // the body over and over, until the client goes away (or Reset)
  bool ranges = false;    // honours "Range: bytes=N-" and "If-Range" (ETag/Last-Modified lines)
  int rangeSkew = 0;      // a 206's Content-Range starts this many bytes after what it sends
  int64_t cutOnce = -1;   // the next response only: close after this many body bytes
  bool afterCut = false;  // replaces the route once its cutOnce has cut (not at once)
  std::string contentType = "application/octet-stream";
  std::vector<std::string> extraHeaders = {};  // whole lines without CRLF, e.g. "X-Test: 1"
};

struct RecordedRequest {
  std::string method;
  std::string target;   // as on the wire, e.g. "/index/tools/getVersion"
  std::string version;  // e.g. "HTTP/1.1"
  std::vector<std::pair<std::string, std::string>> headers;  // in the order sent
  std::string body;
  std::string end;        // "sent", "dropped" (the client went away first), empty until answered
  int64_t sentBytes = 0;  // body bytes written to the client

  // The value of the first header of that name (case ignored), or empty.
  std::string Header(std::string_view name) const;
  bool HasHeader(std::string_view name) const;
};

class UpdateServer {
 public:
  static int Port();                                // the data port
  static std::string Host();                        // "127.0.0.1:<port>"
  static std::string Url(std::string_view target);  // "http://127.0.0.1:<port>" + target
  // Default routes ("1.0.9" for the version, 404 for the archive), no recorded requests,
  // connections accepted, stalled responses released.
  static bool Reset();
  // `target` is the raw request target, e.g. "/update/%E7%BF%8E%E5%9B%BE%E5%8C%A0.rbz".
  static bool SetRoute(std::string_view target, std::string_view body,
                       const RouteOptions& options = {});
  static bool RefuseConnections(bool refuse);
  static std::vector<RecordedRequest> Requests();
  // How the response to the latest request ended (RecordedRequest::end); empty before then.
  static std::string LastEnd();
  static bool ClearRequests();
};

}  // namespace testsupport
