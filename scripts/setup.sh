#!/usr/bin/env bash
# Installs what the build, the demo and the tests need on a Debian 12 machine and fetches
# minizip's sources from Debian's zlib source package. Safe to run again: it only does
# what is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deps="$here/.deps"

# wine64-preloader reserves Windows' fixed addresses before anything else is mapped; without it
# a randomly placed library now and then takes the shared user data page and the new process
# dies at birth ("failed to map the shared user data"), failing CreateProcess with error 1359.
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          libz-mingw-w64-dev googletest wine wine64 wine64-preloader xvfb xauth
          fonts-wqy-microhei fonts-wine imagemagick locales bzip2 zip unzip curl cmake ninja-build
          python3 time clang lld llvm openssl osslsigncode nginx apache2-utils 7zip libarchive-tools)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# A Chinese Windows needs the zh_CN locale on the Linux side (code page 936 under Wine); a
# Western one (code page 1252, for the archiver test) en_US.
for locale in zh_CN en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^$locale.utf8$"; then
    echo "setup: generating the $locale.UTF-8 locale"
    localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
  fi
done

# minizip is not packaged for MinGW: take its sources from Debian's zlib source package,
# through a private source list so that the machine's apt configuration stays untouched.
minizip="$deps/minizip"
if [ ! -f "$minizip/unzip.c" ]; then
  echo "setup: fetching minizip from Debian's zlib source package"
  work=$(mktemp -d)
  mkdir -p "$work/parts" "$work/lists/partial" "$work/src"
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$work/parts/src.sources"
  opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$work/parts" -o "Dir::State::Lists=$work/lists")
  apt-get "${opts[@]}" update -qq
  (cd "$work/src" && apt-get "${opts[@]}" source --download-only zlib/bookworm >/dev/null)
  tarball=$(ls "$work"/src/zlib_*.orig.tar.* | head -n 1)
  mkdir -p "$work/x" "$minizip"
  tar -xf "$tarball" -C "$work/x"
  cp "$work"/x/*/contrib/minizip/*.[ch] "$minizip/"
  rm -rf "$work"
fi
echo "setup: ready"
