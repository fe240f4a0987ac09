#pragma once

#include "board/CounterBoard.h"

#include <QObject>
#include <optional>

namespace quillon {

class Shop;
struct Settings;

// The counter board of a running shop, as its settings say (board,
// boardport, boardaddress, boardpassword): started with the shop, its
// outcome among the shop's status lines, restarted or stopped when the
// settings change. `port`, when set, overrides boardport. Must be destroyed
// before the shop.
class ShopBoard : public QObject {
    Q_OBJECT
public:
    ShopBoard(Shop& shop, std::optional<int> port, QObject* parent = nullptr);

    const CounterBoard& board() const { return m_board; }

private:
    void apply();

    Shop& m_shop;
    std::optional<int> m_port;
    CounterBoard m_board;
    std::optional<BoardConfig> m_running;
};

// Where the settings say the board listens, and with which password.
BoardConfig boardConfigOf(const Settings& settings, std::optional<int> port);

} // namespace quillon
