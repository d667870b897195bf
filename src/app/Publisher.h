// The publisher's names, shared by the main window and the dialogs.
#pragma once

// The site's name as the user reads it (the hosts the program talks to are build settings).
inline constexpr const char kPublisherSiteName[] = "orbitashell.fr";

// The author, as the update dialog signs and the About box will name him.
inline constexpr const char kAuthorName[] = "Julien Marchal";
