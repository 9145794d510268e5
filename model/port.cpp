#include "model/port.h"

FileHeaderValues Header;

std::string PortNameOf(const std::string& portLine)
{
    const std::size_t first = portLine.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    return portLine.substr(first, portLine.find_last_not_of(" \t\r\n") - first + 1);
}

std::string PortName()
{
    return PortNameOf(Header.PortName);
}
