! Reference super smoother for tests/detrend/supsmu_test.cpp, written from the
! definition of the smoother. Build: gfortran -O0 -ffp-contract=off supsmu_reference.f90
! Input on stdin: n iper span alpha, then x, y and w (free format).
! Super smoother written from its definition: values single, running sums of
! smooth double (weights, means, variance, covariance, leverage).
module sm
contains
subroutine smooth(n, x, y, w, span, iper, vsmlsq, smo, acvr)
  integer :: n, iper
  real :: x(n), y(n), w(n), span, vsmlsq, smo(n), acvr(n)
  double precision :: xm, ym, var, cvar, fbw, fbo, tmp, a, h, sy, d
  integer :: ibw, jper, i, j, j0, out, in, initial
  real :: xt, xo, xi, wt, yt
  ibw = int(0.5*span*n + 0.5)
  if (ibw < 2) ibw = 2
  jper = abs(iper)
  xm = 0; ym = 0; var = 0; cvar = 0; fbw = 0
  initial = 2*ibw+1
  if (initial > n) initial = n
  do i = 1, initial
    j = i
    if (jper == 2) j = i - ibw - 1
    xt = x(max(j,1))
    if (j < 1) then
      j = n + j; xt = x(j) - 1.0
    end if
    wt = w(j); yt = y(j)
    call addp(wt, xt, yt)
  end do
  do j = 1, n
    out = j - ibw - 1; in = j + ibw
    if (.not. (jper /= 2 .and. (out < 1 .or. in > n))) then
      if (out < 1) then
        out = n + out; xo = x(out) - 1.0; xi = x(in)
      else if (in > n) then
        in = in - n; xi = x(in) + 1.0; xo = x(out)
      else
        xo = x(out); xi = x(in)
      end if
      call remp(w(out), xo, y(out))
      call addp(w(in), xi, y(in))
    end if
    a = 0
    if (var > vsmlsq) a = cvar/var
    smo(j) = real(a*(x(j) - xm) + ym)
    if (iper > 0) then
      h = 0
      if (fbw > 0) h = 1d0/fbw
      if (var > vsmlsq) h = h + (x(j) - xm)**2/var
      d = 1d0 - w(j)*h
      if (d > 0) then
        acvr(j) = real(abs(y(j) - smo(j))/d)
      else if (j > 1) then
        acvr(j) = acvr(j-1)
      else
        acvr(j) = 0
      end if
    end if
  end do
  j = 1
  do while (j <= n)
    j0 = j
    sy = smo(j)*w(j); fbw = w(j)
    do while (j < n)
      if (.not. (x(j+1) <= x(j))) exit
      j = j + 1
      sy = sy + w(j)*smo(j); fbw = fbw + w(j)
    end do
    if (j > j0) then
      a = 0
      if (fbw > 0) a = sy/fbw
      smo(j0:j) = real(a)
    end if
    j = j + 1
  end do
contains
  subroutine addp(wt, xt, yt)
    real :: wt, xt, yt
    fbo = fbw; fbw = fbw + wt
    if (fbw > 0) then
      xm = (fbo*xm + wt*xt)/fbw; ym = (fbo*ym + wt*yt)/fbw
    end if
    tmp = 0
    if (fbo > 0) tmp = fbw*wt*(xt - xm)/fbo
    var = var + tmp*(xt - xm); cvar = cvar + tmp*(yt - ym)
  end subroutine
  subroutine remp(wt, xt, yt)
    real :: wt, xt, yt
    double precision :: dx, dy
    fbo = fbw; fbw = fbw - wt
    if (fbw > 0) then
      dx = xt - xm; dy = yt - ym
      tmp = fbo*wt*dx/fbw
      xm = (fbo*xm - wt*xt)/fbw; ym = (fbo*ym - wt*yt)/fbw
      var = var - tmp*dx; cvar = cvar - tmp*dy
    end if
  end subroutine
end subroutine

subroutine supsmu(n, x, y, w, iper, span, alpha, smo, sc)
  integer :: n, iper
  real :: x(n), y(n), w(n), span, alpha, smo(n), sc(n,7)
  real :: spans(3) = (/0.05, 0.2, 0.5/), big = 1e20, sml = 1e-7, eps = 1e-3
  real :: sy, sw, a, scale, vsmlsq, resmin, f, dummy(1)
  integer :: i, j, jper, k
  if (x(n) <= x(1)) then
    sy = 0; sw = 0
    do j = 1, n
      sy = sy + w(j)*y(j); sw = sw + w(j)
    end do
    a = 0; if (sw > 0) a = sy/sw
    smo = a; return
  end if
  i = max(n/4, 1); j = min(3*i, n)
  scale = x(j) - x(i)
  do while (scale <= 0)
    if (j < n) j = j + 1
    if (i > 1) i = i - 1
    scale = x(j) - x(i)
  end do
  vsmlsq = (eps*scale)**2
  jper = iper
  if (iper == 2 .and. (x(1) < 0 .or. x(n) > 1)) jper = 1
  if (jper < 1 .or. jper > 2) jper = 1
  if (span > 0) then
    call smooth(n, x, y, w, span, jper, vsmlsq, smo, sc)
    return
  end if
  do k = 1, 3
    call smooth(n, x, y, w, spans(k), jper, vsmlsq, sc(1,2*k-1), sc(1,7))
    call smooth(n, x, sc(1,7), w, spans(2), -jper, vsmlsq, sc(1,2*k), dummy)
  end do
  do j = 1, n
    resmin = big
    do k = 1, 3
      if (sc(j,2*k) < resmin) then
        resmin = sc(j,2*k); sc(j,7) = spans(k)
      end if
    end do
    if (alpha > 0 .and. alpha <= 10 .and. resmin < sc(j,6) .and. resmin > 0) &
      sc(j,7) = sc(j,7) + (spans(3) - sc(j,7))*max(sml, resmin/sc(j,6))**(10.0 - alpha)
  end do
  call smooth(n, x, sc(1,7), w, spans(2), -jper, vsmlsq, sc(1,2), dummy)
  do j = 1, n
    if (sc(j,2) <= spans(1)) sc(j,2) = spans(1)
    if (sc(j,2) >= spans(3)) sc(j,2) = spans(3)
    f = sc(j,2) - spans(2)
    if (f >= 0) then
      f = f/(spans(3) - spans(2)); sc(j,4) = (1.0 - f)*sc(j,3) + f*sc(j,5)
    else
      f = -f/(spans(2) - spans(1)); sc(j,4) = (1.0 - f)*sc(j,3) + f*sc(j,1)
    end if
  end do
  call smooth(n, x, sc(1,4), w, spans(1), -jper, vsmlsq, smo, dummy)
end subroutine
end module

program supref
  use sm
  integer :: n, iper
  real :: span, alpha
  real, allocatable :: x(:), y(:), w(:), s(:), sc(:,:)
  read(*,*) n, iper, span, alpha
  allocate(x(n), y(n), w(n), s(n), sc(n,7))
  read(*,*) x; read(*,*) y; read(*,*) w
  call supsmu(n, x, y, w, iper, span, alpha, s, sc)
  do i = 1, n
    write(*,'(g16.9)') s(i)
  end do
end program
