// The information button's menu, its dialogs and the publisher's site.
#include "app/DialogOpener.h"
#include "app/Unit1.h"
#include "dialogs/UnitAPropos.h"
#include "dialogs/UnitLicence.h"
#include "dialogs/UnitPrincipe.h"
#include "ui/System.h"
#include "update/UpdateService.h"

void TForm1::btnInfosClick(TObject*) {
    const POINT p = Sys().CursorPos();
    ppmInfos.Popup(p.x - 100, p.y + 27);
}

void TForm1::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (Key == VK_F1 && Shift == 0) {
        Key = 0;
        // Below the button, as a menu button opens its menu.
        POINT p{btnInfos.Left(), btnInfos.Top() + btnInfos.Height()};
        ClientToScreen(Handle(), &p);
        ppmInfos.Popup(p.x, p.y);
    } else if (Key == VK_RETURN && Shift == (ssCtrl | ssShift) && btnExecuter.Enabled() &&
               !cbbListCPL.DroppedDown() && !cbbListSyst.DroppedDown() &&
               !cbbListCustom.DroppedDown()) {
        // Run as administrator, as in the system's own Run box; an open list
        // takes the key to close itself, as it takes a plain Enter.
        Key = 0;
        LaunchLine(true);
    } else if (Key == 'C' && Shift == (ssCtrl | ssShift) && GetFocus() == edtCmdLine.Handle()) {
        Key = 0;
        itemCopierLigneClick(nullptr);
    } else if (Key == 'N' && Shift == ssAlt && btnNewVersionDispo.Visible() &&
               btnNewVersionDispo.Enabled()) {
        Key = 0;
        btnNewVersionDispo.Click();
    }
}

void TForm1::lblPublisherClick(TObject*) {
    Sys().ShellOpen(Handle(), "open", PublisherSiteAddress(), "", nullptr, SW_SHOWNORMAL);
}

void TForm1::itemAProposClick(TObject*) {
    OpenDialog(this, AboutBox);
}

void TForm1::itemLicenceClick(TObject*) {
    OpenDialog(this, Licence);
}

void TForm1::itemPrincipeClick(TObject*) {
    OpenDialog(this, Principe);
}

void TForm1::itemWebSiteClick(TObject*) {
    Sys().ShellOpen(nullptr, "OPEN", ProductPageAddress(), "", "", SW_SHOWNORMAL);
}

void TForm1::ppmInfosPopup(TObject*) {
    itemZoneNotification.Checked = Resident.Active();
}

void TForm1::itemZoneNotificationClick(TObject*) {
    Resident.SetActive(!Resident.Active());
}
