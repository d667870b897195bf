// The About box: title and version, the publisher's links, the tool chain
// and four figures about the machine, computed each time it opens.
#pragma once
#include "components/DLine.h"
#include "components/Label3D.h"
#include "components/LabelURL.h"
#include "ui/ExtCtrls.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <cstdint>
#include <string>

class TAboutBox : public TForm {
public:
    explicit TAboutBox(TComponent* owner);

    TPanel Panel{this};
    TLabel Label6{this};
    TLabel3D Label3D1{this};
    TLabelURL LabelURL2{this};
    TLabel Label1{this};
    TLabelURL LabelURL3{this};
    TDLine DLine1{this};
    TLabel Label5{this};
    TDLine DLine3{this};
    TLabel Label2{this};
    TLabel PhysMem{this};
    TLabel Label3{this};
    TLabel FreeRes{this};
    TLabel Label4{this};
    TLabel NbrProc{this};
    TLabel Label7{this};
    TLabel RevisProc{this};

    void FormCreate(TObject* Sender);
};

// The dialog while it is open; null otherwise.
extern TAboutBox* AboutBox;

// A byte count as whole kibibytes, grouped by the user's locale, then " Ko".
std::string KiloBytesText(std::uint64_t bytes);
// The compiler that built the program, with its version.
std::string ToolChainName();
