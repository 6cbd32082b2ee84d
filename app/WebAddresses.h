#pragma once

#include <string>

namespace app {

// The help page: the build's TESSARY_HELP_URL, or else the page installed
// with the program, found from where the executable is.
std::string HelpAddress();

// The help page's section on making custom layouts; the layout failure
// message ends with it.
std::string GuidelineAddress();

// The PayPal donation page (TESSARY_DONATE_URL).
std::string DonateAddress();

// The installed help page for an executable in `exeDir`: next to it (a build
// tree) or in ../share/tessary (an installation), as a file: address; the
// installation's place when neither exists.
std::string InstalledHelpPage(const std::string& exeDir);

// The help page installed with the program as a path, found as
// InstalledHelpPage finds it; empty when there is none. What the program
// shows when no browser can.
std::string InstalledHelpFile(const std::string& exeDir);
std::string HelpFile();

// A file: address for an absolute path, with unsafe characters escaped.
std::string FileAddress(const std::string& absolutePath);

}  // namespace app
