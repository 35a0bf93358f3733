#pragma once
// The title bar as the status line, rebuilt every second.

#include <ctime>
#include <string>
#include <string_view>

// "Kestrel  COM1:  Thu Mar 06 09:04:07 2008\n (JST)", and "  D/L中 ->> name " while a
// capture is open (`capture_name` not empty). `jst` false labels the time UTC; the caller
// has already taken nine hours off. CP932.
std::string status_text(const std::tm& local, bool jst, std::string_view port_name,
                        std::string_view capture_name);
