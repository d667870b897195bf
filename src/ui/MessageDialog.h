// The error beep and the program's own silent "Erreur" dialog.
#pragma once
#include "ui/Form.h"
#include "ui/StdCtrls.h"

class TIconImage : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    HICON Icon = nullptr;
    void Paint(TCanvas& canvas) override;
};

class TErrorDialog : public TForm {
public:
    TErrorDialog(TComponent* owner, const std::string& message);
    TIconImage imgIcon{this};
    TLabel lblMessage{this};
    TButton btnOK{this};
};

// The system's stop sound, then the modal "Erreur" dialog, which makes no sound.
void ShowErrorMessage(const std::string& message);
