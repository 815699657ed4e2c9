// Control identifiers of the node editor panels. Each is allocated once at
// start-up, and every control also bears its identifier's name as its
// window name, so a control is found by the same name in any panel.
#pragma once

#include <wx/defs.h>

namespace EditorIds {

struct ControlId {
    wxWindowID id;
    const char* name;
};

// ID_STATICTEXT1 .. ID_STATICTEXTn: labels, units and notes in creation order.
const ControlId& StaticTextId(unsigned number);
constexpr unsigned kStaticTextIds = 16;

extern const ControlId ID_PANEL1;

// Node edit dialog and its slave page.
extern const ControlId ID_CHOICEPROTOCOL;
extern const ControlId ID_CHOICEPORT;
extern const ControlId ID_STATICTEXTWARNING;
extern const ControlId ID_NOTEBOOK;
extern const ControlId ID_BUTTONOK;
extern const ControlId ID_BUTTONCANCEL;
extern const ControlId ID_GRIDSLAVES;

// Port panels.
extern const ControlId ID_SPINCTRLLISTENPORT;
extern const ControlId ID_TEXTCTRLSERVERIP;
extern const ControlId ID_TEXTIPSTATE;
extern const ControlId ID_SPINCTRLSERVERPORT;
extern const ControlId ID_CHECKBOXSOURCEPORT;
extern const ControlId ID_SPINCTRLSOURCEPORT;
extern const ControlId ID_CHOICECOMPORT;
extern const ControlId ID_CHOICEBAUD;
extern const ControlId ID_CHOICEFORMAT;
extern const ControlId ID_CHOICEHANDSHAKE;
extern const ControlId ID_CHOICEMODE;
extern const ControlId ID_CHECKBOXUSECTS;
extern const ControlId ID_CHECKBOX1SENDIDLE7E;
extern const ControlId ID_CHOICENRZ;
extern const ControlId ID_CHOICERXATTN;
extern const ControlId ID_CHOICETXATTN;
extern const ControlId ID_SPINCTRLPREAMBLE;
extern const ControlId ID_SPINCTRLPOSTAMBLE;
extern const ControlId ID_CHECKBOXCARRIER;
extern const ControlId ID_CHECKBOXPTTACTIVELOW;

// Protocol panels.
extern const ControlId ID_SPINCTRLMESSAHELEVEL;
extern const ControlId ID_CHOICENODATA;
extern const ControlId ID_SPINCTRLSTARTFLAGS;
extern const ControlId ID_SPINCTRLENDFLAGS;
extern const ControlId ID_CHECKBOXCTRLBYTE;
extern const ControlId ID_CHECKBOXBITSTUFFING;
extern const ControlId ID_SPINCTRLPOLLINTERVAL;
extern const ControlId ID_CHECKBOXPREFIXBIT;
extern const ControlId ID_CHECKBOXSECUREPOLLS;
extern const ControlId ID_CHECKBOXCONTROLSCHECKBACK;
extern const ControlId ID_CHOICEIMPLIMENTATION;
extern const ControlId ID_CHOICE2;
extern const ControlId ID_CHECKBOXSTORESCF;
extern const ControlId ID_CHECKBOXSENDSCF;
extern const ControlId ID_SPINCTRLLOOPNUMBER;
extern const ControlId ID_CHECKBOXEXTENDED;
extern const ControlId ID_SPINCTRLPOLLRATE;
extern const ControlId ID_SPINCTRLINTERVAL;
extern const ControlId ID_SPINCTRLTIMEZONE;
extern const ControlId ID_TEXTCTRLFILL;
extern const ControlId ID_STATICTEXTFILLSTATE;
extern const ControlId ID_CHECKBOXUSEOFFSET;
extern const ControlId ID_CHECKBOXACTIVELOW;
extern const ControlId ID_CHOICECHANNEL;
extern const ControlId ID_CHOICETYPE;
extern const ControlId ID_SPINCTRLHIGH;
extern const ControlId ID_SPINCTRLLOW;
extern const ControlId ID_STATICTEXTTRIGGERHIGHUNIT;
extern const ControlId ID_STATICTEXTTRIGGERLOWUNIT;

} // namespace EditorIds
