#include "mapdata/OutputReader.h"
