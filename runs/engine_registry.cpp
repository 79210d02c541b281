#include "runs/engine_registry.h"

#include "runs/aria2_engine.h"
#include "runs/kget_engine.h"
#include "runs/local_engine.h"

#include <QHostAddress>

const RegisteredEngine *EngineRegistry::byMenuName(const QString &menuName) const
{
    for (const RegisteredEngine &engine : m_engines) {
        if (engine.description.menuName == menuName)
            return &engine;
    }
    return nullptr;
}

const RegisteredEngine *EngineRegistry::stopping() const
{
    for (const RegisteredEngine &engine : m_engines) {
        if (!engine.description.stopCaption.isEmpty())
            return &engine;
    }
    return nullptr;
}

EngineRegistry standardEngines(KGet &kget)
{
    EngineRegistry registry;
    registry.add(localEngine());
    registry.add(kgetEngine(kget));
    registry.add(aria2Engine());
    return registry;
}

bool folderIsHere(const RegisteredEngine &engine, const EngineTarget &target)
{
    if (target.folder.isEmpty())
        return false;
    if (engine.description.place == EngineDescription::Place::ThisMachine)
        return true;
    const QString host = engine.endpoint(target.address).host();
    return host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
}
