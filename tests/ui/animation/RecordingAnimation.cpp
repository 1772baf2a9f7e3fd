#include "AnimationClock.h"

ZU_DEFINE_CLASS(RecordingAnimation, ZuVariantAnimation, ZU_TAG('T', 'R', 'E', 'C'))
