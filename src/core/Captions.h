#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The main window's caption without any status suffix.
std::string BaseCaptionOf(std::string_view caption);

// base followed by suffix, cut to at most limit characters.
std::string ComposeCaption(std::string_view base, std::string_view suffix, std::size_t limit);

// Text of the application error box: a period is added after a message whose
// last character sorts after "." (so not after "!", "." or ")", for example).
std::string WithFinalPeriod(std::string_view message);
