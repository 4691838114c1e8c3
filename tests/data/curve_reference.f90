! Reference negative exponential search for tests/detrend/curve_test.cpp.
! Build: gfortran -O0 curve_reference.f90; input on stdin: nfit, then the values.
! Reference for the negative exponential pattern search, written from the
! definition: double arithmetic, exp(-b t) held in single precision.
program curvref
  implicit none
  integer :: nfit, t, r, j, i, ios
  real :: y(6001), e(6001)
  double precision :: m1, m2, b, h, bt(3), sse(3), se, sy, see, sey, k, a, ak, kk, sylast
  logical :: halving, moved, first, fail
  read(*,*) nfit
  read(*,*) (y(i), i=1,nfit)
  m1 = 0d0; m2 = 0d0
  do i = 1, 10
    m1 = m1 + dble(y(i)); m2 = m2 + dble(y(nfit-10+i))
  end do
  m1 = m1/10d0; m2 = m2/10d0
  if (m1 > 0d0 .and. m2 > 0d0) then
    b = (log(m1) - log(m2)) / dble(nfit - 10)
    if (b <= 0d0) b = 1d-8
  else
    b = 1d-8
  end if
  h = 0.0005d0; r = 1; halving = .false.; first = .true.
  do
    bt(1) = b - h; bt(2) = b; bt(3) = b + h
    do j = 1, 3
      if (j == 2 .and. .not. first) cycle
      fail = .false.
      do t = 1, nfit
        if (dble(t)*abs(bt(j)) > 112.8d0) then
          fail = .true.; exit
        end if
        e(t) = real(exp(-dble(t)*bt(j)))
      end do
      if (fail) then
        print *, 'FAIL range'; stop
      end if
      se = 0; sy = 0; see = 0; sey = 0
      do t = 1, nfit
        se = se + dble(e(t)); sy = sy + dble(y(t)); see = see + dble(e(t))**2; sey = sey + dble(e(t))*dble(y(t))
      end do
      if (se > 1d15 .or. see > 1d15 .or. se < 1d-15 .or. see < 1d-15) then
        print *, 'FAIL sums'; stop
      end if
      k = (sy*see - se*sey) / (dble(nfit)*see - se*se)
      a = (sy - k*dble(nfit)) / se
      sse(j) = 0
      do t = 1, nfit
        sse(j) = sse(j) + (dble(y(t)) - k - a*dble(e(t)))**2
      end do
      ak = a; kk = k; sylast = sy
    end do
    first = .false.
    moved = .false.
    if (sse(1) < sse(2)) then
      b = bt(1); sse(2) = sse(1); moved = .true.
    end if
    if (sse(3) < sse(2)) then
      b = bt(3); sse(2) = sse(3); moved = .true.
    end if
    if (moved .and. .not. halving) then
      h = 2d0*h
    else
      if (.not. moved) halving = .true.
      h = h/2d0
      if (h <= 5d-7) exit
    end if
    if (r == 34) then
      print *, 'OVER34'; stop
    end if
    r = r + 1
  end do
  if (kk > 9999d0 .or. ak <= 0d0 .or. b < 0d0) b = 0d0
  write(*,'(a,es24.16)') 'a ', ak
  write(*,'(a,es24.16)') 'b ', b
  write(*,'(a,es24.16)') 'k ', kk
  write(*,'(a,i4)') 'r ', r
  write(*,'(a,es24.16)') 'sy ', sylast
  write(*,'(a,es24.16,es24.16)') 'curv1,n ', real(ak*exp(-1d0*b)+kk), real(ak*exp(-dble(nfit)*b)+kk)
end program
