#include "app/vemp_107.h"
#include "dialogs/xscrldlg.h"

// Feed delay: Timer1's interval, chosen between 100 and 9900 ms in the value
// dialog. A new interval takes effect at once, also during a feed.
void TVempForm::mnuFeedDelayClick(QObject *)
{
    TXScrlParams params;
    params.MinValue = 100;
    params.MaxValue = 9900;
    params.StartValue = Timer1->interval();
    params.LargeStep = 1000;
    params.SmallStep = 100;
    params.Presets = {500, 1000, 1500, 2000, 3000, 5000};
    params.ShowPresets = true;
    params.UseTrackBar = false;
    const qint32 delay = ShowXScrlDlg(tr("Set Feed Delay (msecs.) to"), QString(), QString(), params, this);
    if (delay != XScrlCancelled)
        Timer1->setInterval(delay);
}
