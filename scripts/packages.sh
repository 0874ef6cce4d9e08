# Shared by the set-up scripts: installs the Debian packages that are missing.
install_missing_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        # Another install on the machine holds the package lock for a while: wait for it.
        apt-get -o DPkg::Lock::Timeout=900 update -qq
        apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config libssl-dev zlib1g-dev qt6-base-dev qt6-base-dev-tools
    libgl-dev)
TEST_PACKAGES=(libgtest-dev libgmock-dev googletest desktop-file-utils appstream procps par2
    qt6-translations-l10n)
# The Windows build of the engine, its suites and wine to run them under the Chinese locale.
WINDOWS_TEST_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64 locales
    nsis zip unzip)
# The sanitizer builds and the fuzz targets: clang with its sanitizer and libFuzzer runtimes.
SANITIZER_PACKAGES=(clang libclang-rt-14-dev)
RUN_PACKAGES=(fonts-noto-cjk fonts-arphic-ukai xdg-utils qt6-translations-l10n)
