#include "model/port.h"

FileHeaderValues Header;
