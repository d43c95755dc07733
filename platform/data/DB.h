// Types shared by the whole dataset layer: states, events, field types,
// field values and the framework's database messages.
#pragma once

#include "platform/core/Classes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

class TDataSet;
class TField;
class TDataSource;
class TDataLink;

enum TDataSetState {
  dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
  dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening
};
// The states in which the active record holds unposted changes.
inline bool IsEditMode(TDataSetState S) { return S == dsEdit || S == dsInsert || S == dsSetKey; }

// What a dataset tells its data sources and their links. Info carries the
// field (deFieldChange, deRecordChange), the buffer distance
// (deDataSetScroll) or a TField** (deFocusControl).
enum TDataEvent {
  deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
  deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
  deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange
};

enum TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
  ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
  ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
  ftLargeint, ftADT, ftArray, ftReference, ftDataSet
};
const char* FieldTypeName(TFieldType T);

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };
// Where a record buffer stands: on a stored record, on an inserted one not
// yet stored, or on the crack before the first / after the last record.
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };
enum TResyncModeItem { rmExact, rmCenter };
using TResyncMode = TSet<TResyncModeItem, 2>;

// A bookmark is an opaque byte string; empty means "no record".
using TBookmark = std::string;
// TDateTime: days since 1899-12-30, the time of day as the fraction.
using TDateTime = double;

// Payload of a nested-dataset value; each dataset class defines its own.
class TNestedData {
public:
  virtual ~TNestedData() = default;
  virtual std::shared_ptr<TNestedData> Clone() const = 0;
};

// One field value in a record buffer. Strings and blobs are byte strings;
// dates are TDateTime doubles; the integer family is int64.
using TFieldValue =
    std::variant<std::monostate, std::int64_t, double, bool, std::string, std::shared_ptr<TNestedData>>;
inline bool IsNullValue(const TFieldValue& V) { return std::holds_alternative<std::monostate>(V); }

// Raises EDatabaseError; the message is prefixed with the component's name
// when it has one ("Orders: Field 'X' not found").
[[noreturn]] void DatabaseError(const std::string& Message, TComponent* Component = nullptr);
// DatabaseError with "%s" in Fmt replaced by Arg.
[[noreturn]] void DatabaseErrorFmt(const char* Fmt, const std::string& Arg, TComponent* Component = nullptr);

// The framework's database messages. The texts are ours; the names are the
// ones applications and the grid refer to.
namespace dbconsts {
inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* SDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* SDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* SDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* SFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* SFieldRequired = "Field '%s' must have a value";
inline constexpr const char* SDataSetUnidirectional = "Operation not allowed on a unidirectional dataset";
inline constexpr const char* SRecordNotFound = "Record not found or changed by another user";
inline constexpr const char* SRecordChangedByOther = "Record %s was changed by another user";
inline constexpr const char* SRecordDeletedByOther = "Record %s was deleted by another user";
inline constexpr const char* SConnectionLost = "Lost the connection to the server: %s";
inline constexpr const char* SBookmarkNotFound = "Bookmark not found";
inline constexpr const char* SDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* SFieldTypeMismatch = "Type mismatch for field '%s'";
inline constexpr const char* SInvalidFieldValue = "'%s' is not a valid value";
inline constexpr const char* SNotBlobField = "Field '%s' is not a blob field";
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SNoDataSet = "Missing DataSet property";
inline constexpr const char* SInvalidCalcType = "Field '%s' cannot be a calculated or lookup field";
inline constexpr const char* SLookupInfoError = "Lookup information for field '%s' is incomplete";
inline constexpr const char* SNoFieldDefs = "No fields defined; define FieldDefs before creating the dataset";
inline constexpr const char* SRecordSlotOutOfRange = "Record slot %s is outside the buffer window";
// Questions the data controls ask before deleting.
inline constexpr const char* SDeleteRecordQuestion = "このレコードを削除しますか？";
inline constexpr const char* SDeleteMultipleRecordsQuestion = "選択したすべてのレコードを削除しますか？";
} // namespace dbconsts
