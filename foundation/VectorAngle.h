// Direction of a 2D vector, as the plan's geometry measures it.
#pragma once

// Radians in (-pi/2, 3pi/2]: unlike atan2, a vector pointing down and to the left gives an angle
// between pi and 3pi/2. The zero vector gives 0. Note the argument order: rise first, then run.
float VectorAngle(float dy, float dx);
