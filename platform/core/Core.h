// Public headers of the runtime core.
#pragma once

#include "platform/core/Checked.h"
#include "platform/core/Classes.h"
#include "platform/core/Collections.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Lists.h"
#include "platform/core/Locale.h"
#include "platform/core/Messages.h"
#include "platform/core/ScopedValue.h"
#include "platform/core/Sets.h"
#include "platform/core/Streams.h"
#include "platform/core/Strings.h"
