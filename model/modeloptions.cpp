#include "model/modeloptions.h"

ModelOptions Model;
