// The settings dialog: a modeless tool window whose controls edit the character
// window's live settings, change its picture, and save or throw away the edits.
#pragma once

#include "components/Button.h"
#include "components/Dialogs.h"
#include "components/Forms.h"
#include "components/Label.h"
#include "components/RadioGroup.h"
#include "components/ScrollBar.h"

class TFmSetting : public TForm {
public:
    explicit TFmSetting(TComponent* owner);

    TScrollBar* ScrollBarX;
    TScrollBar* ScrollBarY;
    TLabel* Label1;
    TLabel* Label2;
    TRadioGroup* RadioGroup1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TLabel* Label3;
    TLabel* Label4;
    TOpenPictureDialog* OpenPictureDialog1;
    TScrollBar* ScrollBar1;
    TLabel* Label5;
    TLabel* Label6;

    // Cancel: the settings file's values replace the live ones.
    void Button1Click(TObject* sender);
    // Fills the controls from the live settings; the controls clamp what lies outside
    // their ranges.
    void FormShow(TObject* sender);
    void ScrollBarXChange(TObject* sender);
    void ScrollBarYChange(TObject* sender);
    void RadioGroup1Click(TObject* sender);
    // Change picture: the chosen file becomes the character's picture at once.
    void Button3Click(TObject* sender);
    // Save: the live values go to the settings file, which is then read back.
    void Button2Click(TObject* sender);
    void ScrollBar1Change(TObject* sender);

private:
    void ReloadSettings();

    // A picture was loaded by this dialog since the settings file was last read.
    bool PictureChanged = false;
};

extern TFmSetting* FmSetting;
