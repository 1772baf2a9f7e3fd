#include "ui/core/ZuEvent.h"

ZU_DEFINE_CLASS(ZuEvent, ZuRttiObject, 0)
