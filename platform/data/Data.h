// Public headers of the dataset layer.
#pragma once

#include "platform/data/BlobFields.h"
#include "platform/data/DB.h"
#include "platform/data/DataLink.h"
#include "platform/data/DataSet.h"
#include "platform/data/FieldLists.h"
#include "platform/data/Fields.h"
#include "platform/data/MemoryDataSet.h"
#include "platform/data/ObjectFields.h"
#include "platform/data/PgDataSet.h"
#include "platform/data/SQLiteDataSet.h"
