// Public headers of the runtime core.
#pragma once

#include "platform/core/Checked.h"
#include "platform/core/Classes.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Sets.h"
#include "platform/core/Streams.h"
#include "platform/core/Strings.h"
