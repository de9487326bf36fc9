#include "PropsFixture.h"
