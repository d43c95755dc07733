// Public headers of this folder; grows as the folder does.
#pragma once

#include "design/ColumnsEditor.h"
#include "design/ColumnsProperty.h"
#include "design/DesignEditors.h"
#include "design/DesignIntf.h"
#include "design/DesignPackage.h"
#include "design/DesignRegistry.h"
#include "design/MaskProperty.h"
#include "design/PropEdits.h"
#include "design/PropertyPanel.h"
#include "design/RixDBGridReg.h"
