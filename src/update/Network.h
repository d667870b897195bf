// The network of the update check, through WinINet: the probe and the
// download, each on a thread of its own that the caller waits for no longer
// than Timeout. While they wait, the calling thread answers the messages sent
// to its windows and paints them, nothing else.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// S_OK when the whole body was written, as URLDownloadToFileA would say, or
// the failure; and the server's HTTP status (0 when none came).
struct TDownloadResult {
    HRESULT Result = E_FAIL;
    DWORD HttpStatus = 0;
};

// The real network; tests derive from it to fake or watch it (SetNetwork).
class TNetwork {
public:
    virtual ~TNetwork() = default;
    // The longest, in milliseconds, that a probe or a download holds its
    // caller; also WinINet's connect, send and receive time-outs of the probe.
    DWORD Timeout = 10000;
    // True when the server of url answered at all, whatever the HTTP status;
    // false when it did not within Timeout.
    virtual bool Probe(const std::string& url);
    // Writes url's body to path, whatever the HTTP status. The system's
    // cached copy of url is discarded first, so that an old copy never stands
    // in for the server's, and none is kept. A body longer than maxBytes is
    // given up as soon as it passes that size
    // (HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE)), and one still coming after
    // Timeout (INET_E_CONNECTION_TIMEOUT); neither writes anything at path,
    // then or later. The copies that downloads left beside path when their
    // program ended first are removed.
    virtual TDownloadResult Download(const std::string& url, const std::string& path,
                                     std::uint64_t maxBytes);
};

// The network in force: the real one unless a test installed another;
// SetNetwork(nullptr) gives the real one back.
TNetwork& Network();
void SetNetwork(TNetwork* replacement);
