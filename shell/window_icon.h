// The program's icon, built into it for the window's title bar and task bar.
#pragma once

#include <string>

// The bytes of a PNG picture of 256 × 256 pixels.
std::string WindowIconPng();
