#include "core/ShopRun.h"

#include "core/Application.h"
#include "orders/Clock.h"

namespace quillon {

int runShop(SettingsStore& store, Prompter& prompter, RegistrationDialogs* dialogs,
            const ShopRunOptions& options, const std::function<int(Shop&)>& serve) {
    Application application(store, prompter);
    if (!application.startUp(dialogs))
        return application.exitCode();
    Settings& settings = application.settings();
    settings.centralServicePort = options.servicePort.value_or(settings.centralServicePort);

    ShopConfig config = options.shop;
    config.workingDirectory = application.workingDirectory();
    const SystemClock systemClock;
    const Clock& clock = options.clock ? *options.clock : systemClock;
    int result = 0;
    {
        Shop shop(config, settings, &store, clock, prompter);
        result = serve(shop);
    }
    application.shutDown();
    return result;
}

} // namespace quillon
