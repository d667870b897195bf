// The update service and the publisher's addresses: the one place that knows
// the hosts set at build time.
#pragma once
#include <string>

class TVersionFile;

// The author, as the update dialog signs and the About box names him.
inline constexpr const char kAuthorName[] = "Julien Marchal";

// Names that follow the publisher's host set at build time: the site's name
// as the user reads it ("orbitashell.fr"), the host as the update dialog's
// signature gives it ("www.orbitashell.fr") and the author's mail at the site.
std::string PublisherSiteName();
std::string PublisherHostName();
std::string AuthorMail();

// "https://" + the host set at build time + path.
std::string ProbeAddress();
std::string VersionFileAddress();
std::string DownloadAddress();
// The publisher's site ("https://" + host), the same in its plain "http://"
// form, and the product page.
std::string PublisherSiteAddress();
std::string PublisherPlainAddress();
std::string ProductPageAddress();

// True when the probe page's server answered.
bool TestInternet();
// The system's temporary folder with its separator, as ANSI calls reach it,
// or "" when it cannot be had. An Exception saying so when its name has no
// form that ANSI calls reach.
std::string GetTempDir();
// The largest version file the check takes; a larger one is a download error.
inline constexpr unsigned long long kVersionFileMaxBytes = 64 * 1024;
// True when the file at path exists and is at most kVersionFileMaxBytes long,
// found without reading it.
bool VersionFileSizeAccepted(const std::string& path);
// The version file at path, read whole; a missing file reads as one without
// sections. Any other failure to read it is an EFOpenError.
TVersionFile ReadVersionFile(const std::string& path);
