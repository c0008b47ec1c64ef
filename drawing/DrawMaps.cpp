#include "drawing/DrawMaps.h"
