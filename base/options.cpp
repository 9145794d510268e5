#include "base/options.h"

DisplayOptions Options;
