#pragma once
// What each event changes in the running game, beyond the steps every application
// shares. Each reads and changes the game state, the ball pool and the effect pools.

namespace fenwhit::effects {

void extraBall();
void paddleSizeDown();
void ballsSpeedUp();
void rotateArena();
void threeGhostBalls();
void wallsExpand();
void distraction();
void wallsImplode();
void randomDirection();
void obstacles();
void invaders();
void threeExtraBalls();
void slowPaddle();
void chaosBalls();
void transmutation();
void autoRotation();
void zoomZoomZoom();
void extraWall();
void corridor();
void blackHole();
void tenBogusBalls();
void breakout();
void squeezeTime();
void stretchTime();
void crappyComputer();
void gameloopCrash();
void mooingCows();
void chickens();
void kromby();
void biggerBalls();
void feelTheBeat();
void xenonLights();
void interfaceTerror();
void fiftyBogusBalls();
void fiftyGhostBalls();
void arenaExpand();

}  // namespace fenwhit::effects
