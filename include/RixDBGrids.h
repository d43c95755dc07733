// RixDBGrids: the whole public API in one include.
#pragma once

#include "platform/core/Core.h"
#include "platform/streaming/Streaming.h"
#include "platform/graphics/Graphics.h"
#include "platform/data/Data.h"
#include "platform/controls/Controls.h"
#include "platform/hosts/Hosts.h"
#include "drawing/Drawing.h"
#include "messages/RixRtlCons.h"
#include "grid/Grid.h"
#include "design/Design.h"
