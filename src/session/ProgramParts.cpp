#include "session/ProgramParts.h"

#include "settings/StartUp.h"

namespace quorvale {

ProgramParts programParts(StartUp &startUp)
{
    return ProgramParts{startUp.store(),    startUp.outlook(),   startUp.workingSet(),
                        startUp.settings(), startUp.options(),   startUp.permissions(),
                        startUp.commands(), startUp.timeFormat()};
}

} // namespace quorvale
