#include "CoreEngine/SharedValues.h"

namespace OrvEngine {

SharedValues& Shared()
{
    static SharedValues values;
    return values;
}

} // namespace OrvEngine
