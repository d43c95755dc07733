// The enumerations of the column model and the assigned-value flags.
#pragma once

#include "drawing/BtnGlyph.h"
#include "drawing/WriteText.h"

#include "platform/core/Sets.h"

// One flag per setting of a column and its title that can be assigned or
// inherited; the set of them is the column's AssignedValues.
// cvButtonState and cvButtonCaption are never set and never read.
enum TRixColumnValue {
  cvColor, cvWidth, cvFont, cvAlignment, cvReadOnly, cvTitleColor, cvTitleCaption, cvTitleAlignment,
  cvTitleFont, cvImeMode, cvImeName, cvButtonState, cvButtonCaption, cvAlignmentV, cvTitleAlignmentV,
  cvEditMask, cvBindColumn, cvTabStop
};
using TRixColumnValues = TSet<TRixColumnValue, 18>;

// Sort-order indicator of a title. osDisable: title clicks leave it alone.
enum TOrderState { osAsc, osDesc, osNone, osDisable };
// Joining of a column's cell with the one above it or to its left.
enum TBindType { btNone, btUp, btLeft };
enum TRixColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone, cbsButton, cbsCheck };
// What a click does to a cbsCheck cell: toggle, or step null, true, false.
enum TRixButtonState { bs2State, bs3State };
