#include "app/form1.h"

void TForm1::SpeakText(const QString&, const QString&) {}
void TForm1::TestVoice(const QString&) {}
void TForm1::EditVoice(const QString&) {}
void TForm1::EditVoiceforSelectedArticle1Click() {}
