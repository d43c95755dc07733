// Public headers of this folder.
#pragma once

#include "platform/hosts/SurfacePainter.h"
#include "platform/hosts/InputDelivery.h"
#include "platform/hosts/HeadlessHost.h"
#include "platform/hosts/SdlHost.h"
#include "platform/hosts/DialogModel.h"
#include "platform/hosts/SdlDialogs.h"
#include "platform/hosts/MenuModel.h"
#include "platform/hosts/X11Clipboard.h"
