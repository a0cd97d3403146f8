// The update settings a program is built with. They are defined in one generated source per
// program (update_config.cpp.in), so that a second build of the program can carry other ones.
#pragma once

namespace net {

// The update server: a host name, optionally followed by ":" and a port; "https://" before it
// makes every exchange with it go over TLS (update_urls.h).
extern const char kUpdateServerHost[];
// The publisher's ECDSA P-256 public keys, each as 128 hex digits (X then Y), separated by ";"
// (a signature by any of them is the publisher's), or empty when plug-in archives are installed
// without a signature.
extern const char kUpdatePublicKey[];

}  // namespace net
