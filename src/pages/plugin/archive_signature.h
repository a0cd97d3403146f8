// The publisher's signature of the plug-in archive. A build that carries the publisher's key
// (net/update_config.h) installs an archive only when the signature beside it on the server
// ("<archive URL>.sig", 64 bytes r||s) is the key owner's signature of the archive's bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "net/signature_check.h"

namespace plugin_page {

class ArchiveSignature {
 public:
  // Whether this build carries a publisher key. Without one archives are installed unchecked.
  static bool Required();

  // Takes the archive's bytes as they arrive, in order (nothing is kept without a key).
  void Add(std::string_view bytes);

  // Fetches the signature from beside `archiveUrl` and tells whether it is the publisher's
  // signature of the bytes added. No signature, an error status or a signature of any other
  // length is no. Waits for the network: only for a worker thread.
  bool Holds(const std::string& archiveUrl);

 private:
  std::optional<net::Sha256> digest_;  // started by the first bytes
};

}  // namespace plugin_page
