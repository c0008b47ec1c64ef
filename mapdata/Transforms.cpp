#include "mapdata/Transforms.h"
