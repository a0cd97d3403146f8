// The update settings a program is built with. They are defined in one generated source per
// program (update_config.cpp.in), so that a second build of the program can carry other ones.
#pragma once

namespace net {

// The update server: a host name, optionally followed by ":" and a port.
extern const char kUpdateServerHost[];
// The publisher's ECDSA P-256 public key as 128 hex digits (X then Y), or empty when plug-in
// archives are installed without a signature.
extern const char kUpdatePublicKey[];

}  // namespace net
