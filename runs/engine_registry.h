#pragma once

#include "runs/download_engine.h"
#include "runs/engine_description.h"

#include <QList>
#include <QUrl>
#include <functional>
#include <memory>

class KGet;

// An engine as the runs library knows it: its description and how to make
// one for a run.
struct RegisteredEngine
{
    EngineDescription description;
    // A fresh engine that runs into target.
    std::function<std::unique_ptr<DownloadEngine>(const EngineTarget &target)> make;
    // For an engine that may be absent: asks whether it is there now; the
    // answer comes later, from the event loop.
    std::function<void(std::function<void(bool present)>)> checkPresent;
    // For an engine at an address: the address as typed ("host:port") as
    // the one it is reached at.
    std::function<QUrl(const QString &address)> endpoint;
};

// Every engine a run can be handed to, in the order the pop-up menu shows
// them. Adding an engine is its own files and one line in standardEngines().
class EngineRegistry
{
public:
    void add(RegisteredEngine engine) { m_engines.append(std::move(engine)); }
    const QList<RegisteredEngine> &engines() const { return m_engines; }
    // The engine whose menu item has this object name; nullptr for none.
    const RegisteredEngine *byMenuName(const QString &menuName) const;
    // The engine whose item stops a running run; nullptr for none.
    const RegisteredEngine *stopping() const;

private:
    QList<RegisteredEngine> m_engines;
};

// Serimo's own engine, KGet (reached through kget) and aria2.
EngineRegistry standardEngines(KGet &kget);

// Whether the files of a run to target land in a folder of this machine,
// which can be opened here.
bool folderIsHere(const RegisteredEngine &engine, const EngineTarget &target);
