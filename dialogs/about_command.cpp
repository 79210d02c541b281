#include "app/vemp_107.h"
#include "dialogs/about_b.h"

void TVempForm::mnuAboutClick(QObject *)
{
    TAboutForm AboutForm(this);
    AboutForm.exec();
}
