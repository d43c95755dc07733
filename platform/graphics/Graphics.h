// Public headers of this folder; grows as the folder does.
#pragma once

#include "platform/graphics/Types.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/graphics/TextEngine.h"
#include "platform/graphics/TextCache.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GdiCalls.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/GraphicsStreaming.h"
