#pragma once

#include "platform/clipboard.h"
#include "platform/wayland/wayland_connection.h"

#include <QStringList>

struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;
struct zwlr_data_control_source_v1;

// The clipboard through the compositor's data-control protocol: Serimo can
// set it while another program's window has the keyboard, which is when a
// feed hands its URLs over. Serimo serves its text until another program
// takes the clipboard.
class DataControlClipboard : public Clipboard
{
public:
    // Null when the compositor does not offer the protocol.
    static std::unique_ptr<DataControlClipboard> create(WaylandConnection *connection);
    ~DataControlClipboard() override;

    bool hasText() const override;
    QString text() const override;
    // The toolkit's read of the selection the user last made.
    QString selectionText() const override;
    bool answered() const override;
    bool setText(const QString &text) override;

private:
    struct Offer
    {
        zwlr_data_control_offer_v1 *offer = nullptr;
        QStringList mimeTypes;
    };

    DataControlClipboard(WaylandConnection *connection, uint32_t global, zwlr_data_control_manager_v1 *manager,
                         zwlr_data_control_device_v1 *device);
    using Answer = WaylandConnection::Answer;
    // Brings in what the compositor reported: Lost when the clipboard can no
    // longer be reached.
    Answer reach(int timeoutMs = WaylandConnection::kAnswerTimeoutMs) const;
    // The same for a read, noting in m_answered whether the compositor
    // answered in time.
    bool usable() const;
    QString textMimeType() const;
    void dropSource();
    static void dropOffer(Offer &offer);

    WaylandConnection *m_connection;
    uint32_t m_global;
    zwlr_data_control_manager_v1 *m_manager;
    zwlr_data_control_device_v1 *m_device; // null once the compositor ended it
    zwlr_data_control_source_v1 *m_source = nullptr;
    QString m_sourceText;
    Offer m_announced; // the newest offer, before it becomes the selection
    Offer m_selection; // what the clipboard holds, when another program set it
    mutable bool m_answered = true;

    friend struct DataControlEvents;
};
