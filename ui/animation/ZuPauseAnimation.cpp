#include "ui/animation/ZuPauseAnimation.h"

ZU_DEFINE_CLASS(ZuPauseAnimation, ZuAbstractAnimation, ZU_TAG('P', 'A', 'A', 'N'))
