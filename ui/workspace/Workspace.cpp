#include "ui/workspace/Workspace.h"
