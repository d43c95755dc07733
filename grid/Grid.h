// Public headers of this folder; grows as the folder does.
#pragma once

#include "grid/RixDBGrid.h"
