// Everything code outside base/ needs to run work on framework threads.
#pragma once

#include "base/FrameworkThread.h"
#include "base/MessageLoop.h"
#include "base/MessageLoopProxy.h"
#include "base/SupportWeakCallback.h"
#include "base/TaskPosting.h"
#include "base/ThreadIds.h"
#include "base/ThreadRegistry.h"
#include "base/TickTime.h"
#include "base/TimeDelta.h"
#include "base/WeakCallback.h"
#include "base/WeakCallbackFlag.h"
