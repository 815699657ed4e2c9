// The program's short name: the caption of its message boxes and dialogs
// and the title of its printouts.
#pragma once

constexpr const char* kProgramCaption = "Quorastelline Config";
