// Public headers of this folder.
#pragma once

#include "platform/core/Messages.h"
#include "platform/controls/Control.h"
#include "platform/controls/WinControl.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/EditMask.h"
#include "platform/controls/Grids.h"
#include "platform/controls/InplaceEdit.h"
#include "platform/controls/DBLookupList.h"
#include "platform/controls/StringGrid.h"
