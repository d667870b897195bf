#pragma once

#include "core/VersionFile.h"
#include "osh/Version.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// This release: major * 1000000 + minor * 1000 + patch.
constexpr std::int32_t kOwnVersionCode = OSH_VERSION_CODE;

constexpr std::string_view kVersionFileName = "Versiosh.txt";
constexpr std::string_view kVersionFilePath = "/version/v_osh.txt";
constexpr std::string_view kDownloadPath = "/download/orbitashell.zip";

bool IsNewerRelease(std::int32_t dispo);

// The name of the copy that download n of process pid writes beside file, and
// that only moves into file's place once whole:
// file + "." + pid + "-" + n + ".part".
std::string PartialDownloadName(std::string_view file, std::uint32_t pid, std::uint32_t n);
// The process that wrote name as such a copy of file (the name alone, without
// its folder), or nothing when name is not one: a program's clean-up must
// never take another file for its own.
std::optional<std::uint32_t> PartialDownloadOwner(std::string_view name, std::string_view file);

// Length of the decimal text of a code, counting at most 10 characters.
int VersionCodeDigitCount(std::int32_t code);
// A version code is a positive number of exactly seven digits.
bool VersionCodeIsValid(std::int32_t code);

// host may carry ":port"; path begins with "/".
std::string UpdateAddress(std::string_view host, std::string_view path);
// The host as a reader writes it: without ":port" ("www.orbitashell.fr").
std::string_view HostName(std::string_view host);
// The site's name as the user reads it: the host name without its leading
// "www." ("orbitashell.fr").
std::string_view SiteName(std::string_view host);

// Every key the three readers below take from the version file: the reader
// keeps these and nothing else.
std::span<const TVersionKey> UpdateFileKeys();

// "dispo" of section "version"; 0 when missing or not a number.
std::int32_t PublishedVersionCode(const TVersionFile& file);

// Text of lblVersion in the update dialog: "line1" of section "info".
std::string NewVersionLabel(const TVersionFile& file);

// The 14 lines of memoUpdate: "line2" to "line8" of section "info", an empty
// line, the installation notice, an empty line, the greeting and the two
// signature lines.
std::vector<std::string> ReleaseNotesLines(const TVersionFile& file, std::string_view authorLine,
                                           std::string_view siteLine);
