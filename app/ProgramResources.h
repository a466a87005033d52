#pragma once
// The display program's resources: the menu DRAW_MENU, the program icon
// (32000) and the program's name, handed to the framework. Called before the
// application and its windows are made.

void UseProgramResources();
