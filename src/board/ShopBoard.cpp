#include "board/ShopBoard.h"

#include "core/Shop.h"
#include "orders/QtText.h"

namespace quillon {

BoardConfig boardConfigOf(const Settings& settings, std::optional<int> port) {
    BoardConfig config;
    config.address = toQString(settings.boardaddress);
    config.port = port.value_or(settings.boardport);
    config.passwordHash = settings.boardpassword;
    config.certificate = toQString(settings.boardcert);
    config.key = toQString(settings.boardkey);
    return config;
}

ShopBoard::ShopBoard(Shop& shop, std::optional<int> port, QObject* parent)
    : QObject(parent), m_shop(shop), m_port(port),
      m_board(shop.orderBook(), shop.clock(), &shop.statuses().store()) {
    connect(&m_board, &CounterBoard::statusLine, this,
            [this](const QString& line) { m_shop.statusLines().add(fromQString(line)); });
    connect(&shop, &Shop::settingsChanged, this, &ShopBoard::apply);
    apply();
}

void ShopBoard::apply() {
    const Settings& settings = m_shop.settings();
    if (!settings.board) {
        if (m_running)
            m_shop.statusLines().add("Counter board stopped.");
        m_board.stop();
        m_running.reset();
        return;
    }
    const BoardConfig wanted = boardConfigOf(settings, m_port);
    const auto samePlace = [&wanted](const BoardConfig& c) {
        return c.address == wanted.address && c.port == wanted.port &&
               c.certificate == wanted.certificate && c.key == wanted.key;
    };
    if (m_running && samePlace(*m_running) && !m_running->passwordHash.empty() &&
        !wanted.passwordHash.empty()) {
        // Only a new password: the sessions end, the board serves on.
        m_board.setPasswordHash(wanted.passwordHash);
        m_running = wanted;
        return;
    }
    if (m_running && samePlace(*m_running) && m_running->passwordHash == wanted.passwordHash)
        return;
    m_board.start(wanted);
    m_running = wanted;
}

} // namespace quillon
