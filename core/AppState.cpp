#include "core/AppState.h"

AppState& appState()
{
    static AppState state;
    return state;
}
