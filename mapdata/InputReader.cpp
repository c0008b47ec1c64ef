#include "mapdata/InputReader.h"
