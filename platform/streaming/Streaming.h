// Public headers of component streaming: the published-property registry,
// the binary component stream and its text form.
#pragma once

#include "platform/streaming/ClassBuilder.h"
#include "platform/streaming/ComponentStreams.h"
#include "platform/streaming/Filer.h"
#include "platform/streaming/TextForm.h"
#include "platform/streaming/TypInfo.h"
